// Where plugin.ini is: the Plugins folder beside the host program.
#include <cstdio>
#include <cstring>

#include "config/settings_file.h"
#include "files/path_chars.h"

namespace {

constexpr char kPluginsFolder[] = "Plugins\\";
constexpr char kSettingsFileName[] = "plugin.ini";

// The program's path: the quoted start of the command line, or, when the command line
// does not begin with a quote, the module file name. Without the quotes the path's end
// cannot be told from the command line: "C:\Program Files\Player\player.exe" would end
// at its first blank, in another folder. False when there is none.
bool ProgramPath(const char* commandLine, const char* moduleFileName, const char** begin, const char** end) {
  if (commandLine == nullptr) return false;
  const char* at = commandLine;
  while (*at == ' ' || *at == '\t') at++;
  if (*at != '"') {
    if (moduleFileName == nullptr) return false;
    *begin = moduleFileName;
    *end = moduleFileName + std::strlen(moduleFileName);
    return true;
  }
  *begin = ++at;
  while (*at != '\0' && *at != '"') at++;
  *end = at;
  return true;
}

}  // namespace

int SettingsPathFromCommandLine(const char* commandLine, const char* moduleFileName, char* path, size_t size) {
  if (path == nullptr || size == 0) return 0;
  path[0] = '\0';
  const char* begin = nullptr;
  const char* end = nullptr;
  if (!ProgramPath(commandLine, moduleFileName, &begin, &end)) return 0;
  // By characters: a folder name's second byte may be that of a backslash.
  const char* lastBackslash = nullptr;
  for (const char* p = begin; p < end; p = NextPathChar(p)) {
    if (*p == '\\') lastBackslash = p;
  }
  if (lastBackslash == nullptr) return 0;
  const size_t folderLength = static_cast<size_t>(lastBackslash + 1 - begin);
  if (folderLength >= size) return 0;
  const int n = std::snprintf(path, size, "%.*s%s%s", static_cast<int>(folderLength), begin, kPluginsFolder,
                              kSettingsFileName);
  if (n < 0 || static_cast<size_t>(n) >= size) {
    path[0] = '\0';  // a cut path would name another file
    return 0;
  }
  return 1;
}
