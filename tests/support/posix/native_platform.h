#pragma once
// This platform's main loop, socket provider and listener under names shared by both platforms.
#include "platform/posix/main_loop_posix.h"
#include "platform/posix/socket_posix.h"
#include "tcp_listener.h"

namespace brg {
using NativeMainLoop = PosixMainLoop;
using NativeSocketProvider = PosixSocketProvider;
} // namespace brg
