// The browse lists made again from CurrentFolder, in listing order.
#include "browse/extension_list.h"
#include "browse/folder_browser.h"
#include "browse/slot_tables.h"
#include "config/settings.h"

int RescanCurrentFolder() {
  BrowseCount = 0;
  return ScanFolder(CurrentFolder, ExtensionTable, ExtensionCount, BrowseNames, BrowseTitles, &BrowseCount);
}
