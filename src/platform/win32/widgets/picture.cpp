#include "platform/win32/widgets/picture.h"

namespace vexa::win32 {

namespace {

HBITMAP ScaledPicture(HINSTANCE instance, int resource, int width, int height) {
  GdiObject<HBITMAP> source(
      static_cast<HBITMAP>(::LoadImageA(instance, MAKEINTRESOURCEA(resource), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
  if (!source) return nullptr;
  BITMAP info{};
  ::GetObjectA(source.get(), sizeof info, &info);
  WindowDc screen(nullptr);
  MemoryDc from(::CreateCompatibleDC(screen.get()));
  MemoryDc to(::CreateCompatibleDC(screen.get()));
  HBITMAP scaled = ::CreateCompatibleBitmap(screen.get(), width, height);
  {
    Selection fromPicture(from.get(), source.get());
    Selection toPicture(to.get(), scaled);
    ::SetStretchBltMode(to.get(), HALFTONE);
    ::SetBrushOrgEx(to.get(), 0, 0, nullptr);
    ::StretchBlt(to.get(), 0, 0, width, height, from.get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
  }
  return scaled;
}

}  // namespace

WindowClass Picture::Class(bool shown) const {
  WindowClass cls = Widget::Class(shown);
  cls.style |= SS_BITMAP | SS_NOTIFY;
  return cls;
}

void Picture::SetUp() {
  const int width = Rect().right - Rect().left;
  const int height = Rect().bottom - Rect().top;
  picture_.reset(ScaledPicture(context_.instance, Desc().picture, width, height));
  ::SendMessageA(Window(), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture_.get()));
  ::SetWindowPos(Window(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::optional<LRESULT> Picture::Colours(UINT, HDC dc) {
  ::SetBkMode(dc, TRANSPARENT);
  ::SetBrushOrgEx(dc, -Rect().left, -Rect().top, nullptr);
  return reinterpret_cast<LRESULT>(context_.background->get());
}

}  // namespace vexa::win32
