#pragma once
// This platform's main loop, socket provider and listener under names shared by both platforms.
#include "platform/win32/main_loop_win32.h"
#include "platform/win32/socket_win32.h"
#include "platform/win32/tcp_listener_win32.h"

namespace brg {
using NativeMainLoop = Win32MainLoop;
using NativeSocketProvider = Win32SocketProvider;
} // namespace brg
