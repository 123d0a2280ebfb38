// The settings in memory, before and after the settings file has been read.
#include "config/settings.h"

int32_t ComPort = -1;
char LibraryRoot[kPathSize] = "";
char CurrentFolder[kPathSize] = "";
char PlaylistDir[kPathSize] = "";
char DumpDir[kPathSize] = "";
