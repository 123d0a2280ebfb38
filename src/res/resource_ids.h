// Ids shared by the resource script and the code: the dialog, its controls and the
// string-table messages.
#pragma once

#define IDD_CONFIG 101

// String table.
#define kMsgNoExtensions 2
#define kMsgExtensionsUnparsed 3
#define kMsgNoIniPath 4
#define kMsgIniUnreadable 5
#define kMsgNoExtensionKey 6
#define kMsgNoMemory 7
#define kMsgDumpDir 9
#define kMsgPlaylistDir 10
#define kMsgTimer 11
#define kMsgSettingsOpen 13
#define kMsgSettingsParse 14
#define kMsgProcessPath 15
#define kMsgSettingsWrite 16
#define kMsgEnterMusicFolder 17
#define kMsgNoSettingsHeading 18
#define kMsgSerialPort 19
#define kMsgCountdown 20
#define kMsgSelectPort 21
#define kMsgPathNotFound 22
