// Resource identifiers shared by the resource script and the program.
#pragma once

#define IDI_APPLICATION_ICON 1

// The version as the version block and the trace write it.
#define VELMORANT_VERSION_TEXT "1.04"
