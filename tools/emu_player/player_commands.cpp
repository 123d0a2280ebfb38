// Splits a standard-input line into TAB fields and runs the command it names.
#include <cstring>

#include "command_line.h"
#include "command_table.h"
#include "output_line.h"
#include "player_actions.h"

namespace {

constexpr int kMaxFields = 8;

struct CommandRow {
  const char* name;
  int minFields;  // counting the name
  int maxFields;
  void (*run)(char** fields, int count);
};

void RunLoad(char**, int) { PlayerLoad(); }
void RunInit(char**, int) { PlayerInit(); }
void RunQuit(char**, int) { PlayerQuit(); }
void RunUnload(char**, int) { PlayerUnload(); }
void RunExit(char**, int) { PlayerExit(); }
void RunSync(char**, int) { EmitOk("sync"); }

// The control id of a window command (fields[2]); false, with the error answered, when
// it is no number.
bool ControlId(char** fields, int32_t* control) {
  if (ParseInt32(fields[2], control)) return true;
  EmitError("%s bad control id", fields[0]);
  return false;
}

void RunSetText(char** fields, int) {
  int32_t control = 0;
  if (ControlId(fields, &control)) PlayerSetText(fields[1], control, fields[3]);
}

void RunPick(char** fields, int) {
  int32_t control = 0;
  if (ControlId(fields, &control)) PlayerPick(fields[1], control, fields[3]);
}
void RunMessageBox(char** fields, int count) {
  int32_t button = 1;  // IDOK
  if (count == 3 && !ParseInt32(fields[2], &button)) return EmitError("msgbox bad button id");
  PlayerMessageBox(count >= 2 ? fields[1] : "Quillbox", button);
}

void RunSlow(char** fields, int) {
  int32_t ms = 0;
  if (!ParseInt32(fields[1], &ms) || ms < 0 || ms > 1000) {
    EmitError("slow bad number");
    return;
  }
  PlayerSetAnswerDelay(ms);
  EmitOk("slow");
}

void RunClick(char** fields, int) {
  int32_t control = 0;
  if (ControlId(fields, &control)) PlayerClick(fields[1], control);
}

constexpr CommandRow kCommands[] = {
    {"playlist", 2, 4, CommandPlaylist}, {"pos", 2, 2, CommandSet},
    {"state", 2, 2, CommandSet},         {"elapsed", 2, 2, CommandSet},
    {"length", 2, 2, CommandSet},        {"shuffle", 2, 2, CommandSet},
    {"volume", 2, 2, CommandSet},        {"tag", 4, 4, CommandTag},
    {"untag", 2, 2, CommandUntag},       {"changed", 2, 2, CommandChanged},
    {"ini", 2, 2, CommandIni},           {"log", 2, 2, CommandLog},
    {"model", 1, 1, CommandModel},       {"load", 1, 1, RunLoad},
    {"init", 1, 1, RunInit},             {"quit", 1, 1, RunQuit},
    {"unload", 1, 1, RunUnload},         {"exit", 1, 1, RunExit},
    {"sync", 1, 1, RunSync},             {"click", 3, 3, RunClick},
    {"msgbox", 1, 3, RunMessageBox},     {"slow", 2, 2, RunSlow},
    {"settext", 4, 4, RunSetText},       {"info", 3, 8, CommandInfo},
    {"misuse", 1, 1, CommandMisuse},     {"result", 2, 4, CommandResult},
    {"overflow", 2, 2, CommandOverflow}, {"pick", 4, 4, RunPick},
    {"clock", 2, 2, CommandClock},       {"library", 7, 7, CommandLibrary},
    {"library-file", 2, 2, CommandLibraryFile}, {"hold", 1, 2, CommandHold},
};

// Cuts line at each TAB; returns the field count, or kMaxFields + 1 when there are more.
int SplitFields(char* line, char** fields) {
  int count = 0;
  char* field = line;
  while (count < kMaxFields) {
    fields[count++] = field;
    char* tab = std::strchr(field, '\t');
    if (tab == nullptr) return count;
    *tab = '\0';
    field = tab + 1;
  }
  return kMaxFields + 1;
}

void Dispatch(char** fields, int count) {
  for (const CommandRow& row : kCommands) {
    if (std::strcmp(row.name, fields[0]) != 0) continue;
    if (count < row.minFields || count > row.maxFields) {
      EmitError("%s wrong number of fields", row.name);
      return;
    }
    row.run(fields, count);
    return;
  }
  EmitError("unknown command %.100s", fields[0]);
}

}  // namespace

bool ParseInt32(const char* text, int32_t* value) {
  bool negative = text[0] == '-';
  const char* digit = negative ? text + 1 : text;
  if (*digit == '\0') return false;
  int64_t number = 0;
  for (; *digit != '\0'; ++digit) {
    if (*digit < '0' || *digit > '9') return false;
    number = number * 10 + (*digit - '0');
    if (number > 2147483648LL) return false;
  }
  if (negative) number = -number;
  if (number > 2147483647LL) return false;
  *value = static_cast<int32_t>(number);
  return true;
}

void RunStdinLine(const StdinLine& input) {
  if (input.end) PlayerExit();
  if (input.overlong) {
    EmitError("line too long");
    return;
  }
  // A copy of our own: the reader may reuse its buffer once the message is answered,
  // and some commands answer it early.
  char line[kInputLineCapacity];
  size_t length = input.length < sizeof line ? input.length : sizeof line - 1;
  std::memcpy(line, input.text, length);
  if (length > 0 && line[length - 1] == '\r') --length;  // tolerate CRLF senders
  line[length] = '\0';
  if (length == 0) {
    EmitError("empty line");
    return;
  }
  char* fields[kMaxFields];
  int count = SplitFields(line, fields);
  if (count > kMaxFields) {
    EmitError("too many fields");
    return;
  }
  Dispatch(fields, count);
}
