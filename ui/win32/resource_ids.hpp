// The resources kartwerk.exe carries (resources.rc), by number: the windows load them with
// LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), ...). The resource compiler reads
// this header too, so it holds plain macros only.
#ifndef KARTWERK_UI_WIN32_RESOURCE_IDS_HPP
#define KARTWERK_UI_WIN32_RESOURCE_IDS_HPP

// The program icon (16, 32, 48 and 256 pixels). Explorer, the taskbar and the shortcuts show the
// first icon group of a program, so it has the lowest number.
#define KARTWERK_IDI_PROGRAM 1
// The icon in front of each map row (16, 24 and 32 pixels, with alpha).
#define KARTWERK_IDI_MAP_ROW 2
// The banner across the top of the windows (415 x 70, 24-bit), without the word mark.
#define KARTWERK_IDB_BANNER 3
// The same banner drawn for 144 and 192 dots per inch (623 x 105 and 830 x 140).
#define KARTWERK_IDB_BANNER_144 4
#define KARTWERK_IDB_BANNER_192 5
// The application manifest: the windows draw themselves at each monitor's resolution.
#define KARTWERK_MANIFEST 1

#endif
