#pragma once
// This platform's main loop, socket provider and listener under names shared by both platforms.
#include "platform/win32/main_loop_win32.h"
#include "platform/win32/socket_win32.h"
#include "tcp_listener.h"

namespace brg {
using NativeMainLoop = Win32MainLoop;
using NativeSocketProvider = Win32SocketProvider;
} // namespace brg
