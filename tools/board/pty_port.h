// The board's end of the panel line: a pseudo-terminal whose other end is linked at
// the path a Wine prefix maps as a COM port. The board does not hold that other end
// open itself, so it can tell when a program opens the port (an Uno resets then, as
// DTR rises): while nobody has it open, the pty's master end reports a hang-up. An
// open and close within a millisecond (the plug-in's dialog trying the port) falls
// between two looks at the hang-up, so the opens and closes of the other end are also
// counted as they happen, through inotify; the hang-up corrects the count should an
// event be lost.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class PtyPort {
 public:
  explicit PtyPort(std::string link) : link_(std::move(link)) {}
  ~PtyPort();
  // A new pty behind the link, the link replaced in one step.
  bool Plug(std::string* problem);
  // Closes the pty and points the link at nothing: the port is gone for its program.
  void Unplug();
  bool Plugged() const { return master_ >= 0; }
  bool Opened() const { return opened_; }
  enum class Change { Opened, Closed };
  // What programs did with the port since the last look: the first of them opening it,
  // the last closing it; in order.
  std::vector<Change> Watch();
  // The master's descriptor while a program has the port open, -1 otherwise.
  int ReadableFd() const { return opened_ ? master_ : -1; }
  // Readable when a program opened or closed the port; -1 without inotify, and while
  // unplugged: removing the watch queued an event that only the next Plug reads, and a
  // descriptor left readable would end every sleep of the board's at once.
  int EventFd() const { return master_ >= 0 ? notify_ : -1; }
  // Bytes from the program, without waiting; 0 when there are none.
  size_t Read(uint8_t* into, size_t room);
  // Bytes to the program; dropped when nobody has the port open, as on a real line.
  void Write(const uint8_t* bytes, size_t count);

 private:
  void Relink(const std::string& target);
  void Close();
  void CountEvents(std::vector<Change>* changes);
  std::string link_;
  int master_ = -1;
  int notify_ = -1;
  int watch_ = -1;
  int openers_ = 0;
  bool opened_ = false;
};
