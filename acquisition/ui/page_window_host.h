// The program's host of pixdoc32's image windows: the library's windows become PageWindowWidgets
// and its window handles are the widgets' addresses, so that any widget (a dialog's frame, the
// viewer's area) can be handed to the library as a parent. Installed once at start, before the
// first image window is made.
#pragma once

#include <cstdint>

#include "pixdoc32.h"

class QWidget;

namespace scantora {

// Installs the host in pixdoc32 (under the program-wide pixdoc32 lock). False when the library
// refuses it (image windows exist already).
bool InstallPageWindowHost();

// A widget as pixdoc32 knows it: its handle.
PixdocWindow HandleOf(const QWidget* widget);

}  // namespace scantora
