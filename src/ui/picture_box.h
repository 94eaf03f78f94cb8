#pragma once
// The picture box: shows a bitmap in centred mode on a button-face
// background. Presses pass through it to the window beneath.

#include <windows.h>

#include <cstddef>
#include <thread>

// The window class; registered on the first call.
const wchar_t* PictureBoxClass();

// Shows `picture` (not owned: it must outlive the box or be replaced first).
void SetPictureBoxImage(HWND box, HBITMAP picture);

// The resolution the box draws at: the picture's own size is taken as that of
// the layout's 96 dots per inch and scaled like the box.
void SetPictureBoxDpi(HWND box, int dpi);

// Decodes an encoded image (JPEG, PNG, ...) into a 32-bit bitmap that the
// caller owns; nullptr when it cannot be decoded. COM must be initialised.
HBITMAP DecodePicture(const void* data, std::size_t size);

// The same for an RCDATA resource of the module.
HBITMAP LoadPictureResource(HMODULE module, int id);

// LoadPictureResource on a thread of its own, with COM of its own: the
// decoder's DLLs and class are loaded beside the window's making, on the
// other processor, instead of before it.
class PictureLoad {
 public:
  PictureLoad(HMODULE module, int id);
  // Waits for the thread; a picture not taken is freed.
  ~PictureLoad();
  PictureLoad(const PictureLoad&) = delete;
  PictureLoad& operator=(const PictureLoad&) = delete;
  // The decoded picture, once decoded (nullptr when it could not be, or was
  // taken already); the caller owns it.
  HBITMAP Take();

 private:
  std::thread worker_;
  HBITMAP picture_ = nullptr;
};
