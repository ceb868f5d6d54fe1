#pragma once
// Resource ids of the program, shared by app/kelvad.rc and the C++ sources (plain defines for windres).
// The mode switch glyphs are the named bitmaps "ON" and "OFF"; everything else is numbered.

// Program icon: 32 x 32 and 16 x 16, 16 colours.
#define IDI_MAINICON 1

// Button glyphs, 32 x 16, 16 colours: the normal look in the left 16 x 16 cell, the disabled look in
// the right one; the bottom-left pixel holds the transparent colour. The same glyph drawn for 150 % displays
// (48 x 24) has the id + 1000, for 200 % (64 x 32) the id + 2000; "ON150", "OFF200" and so on by name.
#define IDB_FILEOPEN 101
#define IDB_INSERT 102
#define IDB_EDIT 103
#define IDB_DELETE 104
#define IDB_PRINT 105
#define IDB_SETUP 106
#define IDB_HELP 107
#define IDB_ABORT 108
#define IDB_OK 109
