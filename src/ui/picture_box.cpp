#include "ui/window_class.h"
#include "ui/picture_box.h"

#include <wincodec.h>

#include <cstring>
#include <system_error>

#include "host/com_scope.h"
#include "host/handles.h"
#include "ui/layout.h"

namespace {

constexpr wchar_t kDpiProperty[] = L"KestrunPictureDpi";

HBITMAP Picture(HWND box) { return reinterpret_cast<HBITMAP>(GetWindowLongPtrW(box, GWLP_USERDATA)); }

int BoxDpi(HWND box) {
  const auto dpi = reinterpret_cast<INT_PTR>(GetPropW(box, kDpiProperty));
  return dpi > 0 ? static_cast<int>(dpi) : kDesignDpi;
}

void Draw(HWND box, HDC dc) {
  RECT client;
  GetClientRect(box, &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  BITMAP info;
  HBITMAP picture = Picture(box);
  if (picture && GetObjectW(picture, sizeof info, &info) == sizeof info) {
    const int dpi = BoxDpi(box);
    const RECT at =
        FitPicture({client.right, client.bottom}, {ScaleToDpi(info.bmWidth, dpi), ScaleToDpi(info.bmHeight, dpi)});
    const UniqueMemoryDc source(CreateCompatibleDC(dc));
    if (!source) return;
    const SelectionGuard selected(source.get(), picture);
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, at.left, at.top, at.right - at.left, at.bottom - at.top, source.get(), 0, 0, info.bmWidth,
               info.bmHeight, SRCCOPY);
  }
}

LRESULT CALLBACK PictureProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCHITTEST:
      return HTTRANSPARENT;  // a press here moves the window beneath
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      const PaintScope paint(box);
      Draw(box, paint.dc());
      return 0;
    }
    case WM_PRINTCLIENT:
      Draw(box, reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_NCDESTROY:
      RemovePropW(box, kDpiProperty);
      break;
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

void SetPictureBoxDpi(HWND box, int dpi) {
  SetPropW(box, kDpiProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(dpi)));
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
  UniqueBitmap bitmap(CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap) return nullptr;
  const UINT stride = width * 4;
  if (FAILED(converter->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(bits)))) return nullptr;
  return bitmap.release();
}

HBITMAP LoadPictureResource(HMODULE module, int id) {
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (found == nullptr) return nullptr;
  HGLOBAL loaded = LoadResource(module, found);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  return DecodePicture(data, SizeofResource(module, found));
}

PictureLoad::PictureLoad(HMODULE module, int id) {
  const auto decode = [this, module, id] {
    const ThreadApartment apartment;
    picture_ = LoadPictureResource(module, id);
  };
  try {
    worker_ = std::thread(decode);
  } catch (const std::system_error&) {  // no thread: decoded here, in an apartment of the same kind
    decode();
  }
}

PictureLoad::~PictureLoad() { UniqueBitmap untaken(Take()); }

HBITMAP PictureLoad::Take() {
  if (worker_.joinable()) worker_.join();
  HBITMAP picture = picture_;
  picture_ = nullptr;
  return picture;
}
