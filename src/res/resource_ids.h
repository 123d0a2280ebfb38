// Ids shared by the resource script and the code: the dialog, its controls and the
// string-table messages.
#pragma once

#define IDD_CONFIG 101

// Controls of dialog 101.
#define kCtlBanner 1001
#define kCtlStart 1011
#define kCtlBrowse 1014
#define kCtlMusicLabel 1015
#define kCtlPortLabel 1016
#define kCtlMusicFolder 1018
#define kCtlPlaylistFolder 1019
#define kCtlDumpFolder 1020
#define kCtlPortList 1025
#define kCtlStatus 1028
#define kCtlStatusLabel 1029
#define kCtlQuit 1030
#define kCtlConfigure 1031

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
#define kMsgNoDialog 23
#define kMsgFolderTooLong 24
