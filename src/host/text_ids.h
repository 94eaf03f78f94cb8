#pragma once
// Numbers of the texts the program shows, shared by the string table
// (texts.rc) and the code (plain defines: the resource compiler reads this
// file too). Each area of the program keeps its numbers in a block of its own.

// Start-up and the program folder.
#define KL_TEXT_PROGRAM_NAME 1
#define KL_TEXT_FOLDER_UNUSABLE 2
#define KL_TEXT_OPEN_ELSEWHERE 3
#define KL_TEXT_NOT_UNPACKED 4
#define KL_TEXT_TEMPLATE_MISSING 5
#define KL_TEXT_FOLDER_NOT_WRITABLE 6

// The browser path field.
#define KL_TEXT_PATH_ERROR 100
#define KL_TEXT_BROWSER_NOT_FOUND 101

// The stored list.
#define KL_TEXT_LIST_UNREADABLE 200
#define KL_TEXT_LIST_INCOMPLETE 201
#define KL_TEXT_SAVE_FAILED 202   // %1: why, one of the reasons below
#define KL_TEXT_FILE_CHANGED 203  // asks whether to load the file another program wrote
#define KL_TEXT_WHY_FOLDER_REFUSED 210
#define KL_TEXT_WHY_DISK_FULL 211
#define KL_TEXT_WHY_HELD 212
#define KL_TEXT_WHY_READ_ONLY 213
#define KL_TEXT_WHY_TOO_LARGE 214
#define KL_TEXT_WHY_NOT_READ_OUT 215
#define KL_TEXT_WHY_FAILED 216

// Editing the account list.
#define KL_TEXT_ROW_REFUSED 300

// The list's menu: its items, and what they tell.
#define KL_TEXT_MENU_OPEN 400
#define KL_TEXT_MENU_TO_WINDOW 401
#define KL_TEXT_MENU_COPY 402
#define KL_TEXT_MENU_PROFILE_FOLDER 403
#define KL_TEXT_MENU_CLEAR_PROFILE 404
#define KL_TEXT_MENU_DELETE 405
#define KL_TEXT_MENU_PASTE 406
#define KL_TEXT_MENU_COPY_ALL 407
#define KL_TEXT_MENU_UNDO 408
#define KL_TEXT_PROFILE_IN_USE 420
#define KL_TEXT_PASTE_SKIPPED 421
