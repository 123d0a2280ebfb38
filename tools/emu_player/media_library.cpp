#include "media_library.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "demo_library.h"

namespace {

constexpr intptr_t kSearch = 0x701;
constexpr intptr_t kRelease = 0x705;
constexpr size_t kMaxRows = 5000;
constexpr size_t kMaxAnswers = 64;  // answers kept, released or not
constexpr size_t kTextCapacity = 1024;
constexpr char kReleasedText[] = "(released)";

// The plug-in's records, ten and five 32-bit fields.
struct ItemRecord {
  const char* path;
  const char* title;
  int32_t other[8];
};
struct QueryRecord {
  const char* query;
  int32_t maxResults;
  ItemRecord* results;
  int32_t resultCount;
  int32_t allocated;
};
#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(ItemRecord) == 40);
static_assert(sizeof(QueryRecord) == 20);
#endif

struct Row {
  std::string query, path, title;
};

// One search's answer: the array and the texts it points at, owned here.
struct Answer {
  std::vector<ItemRecord> items;
  std::vector<std::unique_ptr<char[]>> texts;
  bool released = false;
};

std::vector<Row> g_rows;
bool g_overflow = false;
std::vector<std::unique_ptr<Answer>> g_answers;

const char* Keep(Answer& answer, const std::string& text) {
  answer.texts.push_back(std::make_unique<char[]>(text.size() + 1));
  std::memcpy(answer.texts.back().get(), text.c_str(), text.size() + 1);
  return answer.texts.back().get();
}

void LogFields(const QueryRecord& q, TextLine& details) {
  LineKeyBounded(details, "query", q.query, q.query ? strnlen(q.query, kTextCapacity) : 0);
  LineKeyNumber(details, "max", q.maxResults);
  LineKeyNumber(details, "results", static_cast<int64_t>(reinterpret_cast<uintptr_t>(q.results)));
  LineKeyNumber(details, "count", q.resultCount);
  LineKeyNumber(details, "allocated", q.allocated);
}

// The array always exists, even for no results, so that every search has one to release.
Answer& NewAnswer(const QueryRecord& q) {
  if (g_answers.size() >= kMaxAnswers) g_answers.erase(g_answers.begin());
  g_answers.push_back(std::make_unique<Answer>());
  Answer& answer = *g_answers.back();
  const std::string text = q.query ? std::string(q.query, strnlen(q.query, kTextCapacity)) : "";
  const size_t limit = g_overflow ? kMaxRows : static_cast<size_t>(q.maxResults < 0 ? 0 : q.maxResults);
  for (const Row& row : g_rows) {
    if (row.query != text) continue;
    if (answer.items.size() >= limit) break;
    answer.items.push_back(ItemRecord{Keep(answer, row.path), Keep(answer, row.title), {}});
  }
  // Without rows loaded for it, the library answers from its songs.
  if (g_rows.empty()) {
    for (const LibrarySong* song : FindLibrarySongs(text.c_str(), limit)) {
      answer.items.push_back(ItemRecord{Keep(answer, song->path), Keep(answer, song->title), {}});
    }
  }
  if (answer.items.empty()) answer.items.reserve(1);  // an address to hand over all the same
  return answer;
}

intptr_t Search(QueryRecord& q, TextLine& details) {
  LogFields(q, details);
  Answer& answer = NewAnswer(q);
  const int32_t found = static_cast<int32_t>(answer.items.size());
  q.results = answer.items.data();
  q.resultCount = found;
  q.allocated = static_cast<int32_t>(answer.items.capacity());
  LineKeyNumber(details, "found", found);
  return 1;
}

Answer* FindAnswer(const ItemRecord* results) {
  for (auto& answer : g_answers) {
    if (answer->items.data() == results) return answer.get();
  }
  return nullptr;
}

void Poison(Answer& answer) {
  for (auto& text : answer.texts) std::memset(text.get(), '#', std::strlen(text.get()));
  for (ItemRecord& item : answer.items) item = ItemRecord{kReleasedText, kReleasedText, {}};
  answer.released = true;
}

intptr_t Release(const QueryRecord& q, TextLine& details) {
  LogFields(q, details);
  Answer* answer = q.results != nullptr ? FindAnswer(q.results) : nullptr;
  if (answer == nullptr) {
    LineKey(details, "misuse", "unknown-results");
  } else if (answer->released) {
    LineKey(details, "misuse", "released-twice");
  } else if (q.resultCount != static_cast<int32_t>(answer->items.size())) {
    LineKey(details, "misuse", "count-changed");
    Poison(*answer);
  } else {
    LineKeyNumber(details, "released", q.resultCount);
    Poison(*answer);
  }
  return 0;
}

}  // namespace

bool LibraryAddResult(const char* query, const char* path, const char* title) {
  if (g_rows.size() >= kMaxRows || std::strlen(path) >= kTextCapacity || std::strlen(title) >= kTextCapacity) {
    return false;
  }
  g_rows.push_back(Row{query, path, title});
  return true;
}

void LibraryClearResults() { g_rows.clear(); }

void LibrarySetOverflow(bool on) { g_overflow = on; }

intptr_t LibraryMessage(uintptr_t record, intptr_t code, TextLine& details) {
  auto* query = reinterpret_cast<QueryRecord*>(record);
  if ((code != kSearch && code != kRelease) || query == nullptr) return 0;
  return code == kSearch ? Search(*query, details) : Release(*query, details);
}
