// The settings in memory, before and after the settings file has been read.
#include "config/settings.h"

int32_t ComPort = -1;
char LibraryRoot[kPathSize] = "";
char CurrentFolder[kPathSize] = "";
char PlaylistDir[kPathSize] = "";
char DumpDir[kPathSize] = "";

void CopyBounded(char* destination, size_t size, const char* source, size_t limit) {
  size_t n = 0;
  for (; n + 1 < size && n < limit && source[n] != '\0'; n++) destination[n] = source[n];
  destination[n] = '\0';
}
