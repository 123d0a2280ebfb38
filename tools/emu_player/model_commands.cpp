// Standard-input commands that set or show the model. None of them sets the
// playlist-changed flag: only the plug-in's edits and the "changed" command do.
#include <cstring>

#include "command_table.h"
#include "host_log.h"
#include "output_line.h"
#include "player_model.h"

namespace {

struct NumberField {
  const char* name;
  int32_t PlayerModel::*member;
};

constexpr NumberField kNumberFields[] = {
    {"pos", &PlayerModel::position},   {"state", &PlayerModel::state},
    {"elapsed", &PlayerModel::elapsedMs}, {"length", &PlayerModel::trackSeconds},
    {"shuffle", &PlayerModel::shuffle}, {"volume", &PlayerModel::volume},
};

// For the commands that take 0 or 1.
bool ParseSwitch(const char* text, bool* on) {
  if (std::strcmp(text, "0") != 0 && std::strcmp(text, "1") != 0) return false;
  *on = text[0] == '1';
  return true;
}

void EmitEntries(const PlayerModel& model) {
  for (int32_t i = 0; i < model.length; ++i) {
    TextLine line;
    LineBegin(line, "entry");
    LineNumber(line, i);
    LineTab(line, model.entries[i]);
    EmitLine(line);
  }
}

}  // namespace

void CommandSet(char** fields, int) {
  int32_t value = 0;
  if (!ParseInt32(fields[1], &value)) {
    EmitError("%s bad number", fields[0]);
    return;
  }
  for (const NumberField& field : kNumberFields) {
    if (std::strcmp(field.name, fields[0]) == 0) Model().*field.member = value;
  }
  EmitOk(fields[0]);
}

void CommandTag(char** fields, int) {
  if (!ModelSetTag(Model(), fields[1], fields[2], fields[3])) {
    EmitError("tag too long or too many tags");
    return;
  }
  EmitOk("tag");
}

void CommandUntag(char** fields, int) {
  ModelForgetTags(Model(), fields[1]);
  EmitOk("untag");
}

void CommandChanged(char** fields, int) {
  bool on = false;
  if (!ParseSwitch(fields[1], &on)) {
    EmitError("changed expects 0 or 1");
    return;
  }
  Model().changed = on ? 1 : 0;
  EmitOk("changed");
}

void CommandIni(char** fields, int) {
  if (!ModelSetIni(Model(), fields[1])) {
    EmitError("ini path too long");
    return;
  }
  EmitOk("ini");
}

void CommandLog(char** fields, int) {
  bool on = false;
  if (!ParseSwitch(fields[1], &on)) {
    EmitError("log expects 0 or 1");
    return;
  }
  SetHostLog(on);
  EmitOk("log");
}

void CommandModel(char**, int) {
  const PlayerModel& model = Model();
  TextLine line;
  LineBegin(line, "model");
  LineKeyNumber(line, "length", model.length);
  LineKeyNumber(line, "pos", model.position);
  LineKeyNumber(line, "state", model.state);
  LineKeyNumber(line, "volume", model.volume);
  LineKeyNumber(line, "shuffle", model.shuffle);
  LineKeyNumber(line, "changed", model.changed);
  LineKeyNumber(line, "elapsed", model.elapsedMs);
  LineKeyNumber(line, "tracklen", model.trackSeconds);
  EmitLine(line);
  EmitEntries(model);
  LineBegin(line, "end");
  EmitLine(line);
}
