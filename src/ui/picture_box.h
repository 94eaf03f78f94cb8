#pragma once
// The picture box: shows a bitmap in centred mode on a button-face
// background. Presses pass through it to the window beneath.

#include <windows.h>

#include <cstddef>

// The window class; registered on the first call.
const wchar_t* PictureBoxClass();

// Shows `picture` (not owned: it must outlive the box or be replaced first).
void SetPictureBoxImage(HWND box, HBITMAP picture);

// Decodes an encoded image (JPEG, PNG, ...) into a 32-bit bitmap that the
// caller owns; nullptr when it cannot be decoded. COM must be initialised.
HBITMAP DecodePicture(const void* data, std::size_t size);

// The same for an RCDATA resource of the module.
HBITMAP LoadPictureResource(HMODULE module, int id);
