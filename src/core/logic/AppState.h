#pragma once

#include <QtGlobal>

// Program-wide state shared between windows.
namespace AppState {

// Tells the reader window in which mode to open: 0 reader query, 1 add a
// reader from the lend desk, 2 reader management. Set just before the reader
// window is shown; the reader window reads it only when it loads.
inline qint32 ReaderFormMode = 0;

}  // namespace AppState
