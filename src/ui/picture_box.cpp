#include "ui/window_class.h"
#include "ui/picture_box.h"

#include <wincodec.h>

#include <cstring>

#include "host/handles.h"
#include "ui/layout.h"

namespace {

HBITMAP Picture(HWND box) { return reinterpret_cast<HBITMAP>(GetWindowLongPtrW(box, GWLP_USERDATA)); }

void Paint(HWND box) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(box, &paint);
  RECT client;
  GetClientRect(box, &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  BITMAP info;
  HBITMAP picture = Picture(box);
  if (picture && GetObjectW(picture, sizeof info, &info) == sizeof info) {
    const RECT at = FitPicture({client.right, client.bottom}, {info.bmWidth, info.bmHeight});
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, picture);
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, at.left, at.top, at.right - at.left, at.bottom - at.top, source, 0, 0, info.bmWidth, info.bmHeight,
               SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
  }
  EndPaint(box, &paint);
}

LRESULT CALLBACK PictureProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCHITTEST:
      return HTTRANSPARENT;  // a press here moves the window beneath
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint(box);
      return 0;
  }
  return DefWindowProcW(box, message, wParam, lParam);
}

}  // namespace

const wchar_t* PictureBoxClass() {
  return SimpleWindowClass(L"KestrunPictureBox", PictureProc, LoadCursor(nullptr, IDC_ARROW));
}

void SetPictureBoxImage(HWND box, HBITMAP picture) {
  SetWindowLongPtrW(box, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(picture));
  InvalidateRect(box, nullptr, FALSE);
}

HBITMAP DecodePicture(const void* data, std::size_t size) {
  if (data == nullptr || size == 0 || size > MAXDWORD) return nullptr;
  ComPtr<IWICImagingFactory> factory;
  ComPtr<IWICStream> stream;
  ComPtr<IWICBitmapDecoder> decoder;
  ComPtr<IWICBitmapFrameDecode> frame;
  ComPtr<IWICFormatConverter> converter;
  UINT width = 0;
  UINT height = 0;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                              factory.put_void())) ||
      FAILED(factory->CreateStream(stream.put())) ||
      FAILED(stream->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(data)), static_cast<DWORD>(size))) ||
      FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand, decoder.put())) ||
      FAILED(decoder->GetFrame(0, frame.put())) || FAILED(factory->CreateFormatConverter(converter.put())) ||
      FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom)) ||
      FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0 || width > 16384 || height > 16384)
    return nullptr;

  BITMAPINFO format = {};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = static_cast<LONG>(width);
  format.bmiHeader.biHeight = -static_cast<LONG>(height);  // top-down rows, as WIC gives them
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr) return nullptr;
  const UINT stride = width * 4;
  if (FAILED(converter->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(bits)))) {
    DeleteObject(bitmap);
    return nullptr;
  }
  return bitmap;
}

HBITMAP LoadPictureResource(HMODULE module, int id) {
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (found == nullptr) return nullptr;
  HGLOBAL loaded = LoadResource(module, found);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  return DecodePicture(data, SizeofResource(module, found));
}
