// "result <query> <path> <title>", "result clear" and "overflow 0|1": the media
// library's answers to searches.
#include <cstring>

#include "command_table.h"
#include "media_library.h"
#include "output_line.h"

void CommandResult(char** fields, int count) {
  if (count == 2 && std::strcmp(fields[1], "clear") == 0) {
    LibraryClearResults();
    EmitOk("result");
    return;
  }
  if (count != 4) {
    EmitError("result expects a query, a path and a title, or clear");
    return;
  }
  if (!LibraryAddResult(fields[1], fields[2], fields[3])) {
    EmitError("result text too long or too many results");
    return;
  }
  EmitOk("result");
}

void CommandOverflow(char** fields, int) {
  if (std::strcmp(fields[1], "0") != 0 && std::strcmp(fields[1], "1") != 0) {
    EmitError("overflow expects 0 or 1");
    return;
  }
  LibrarySetOverflow(fields[1][0] == '1');
  EmitOk("overflow");
}
