#!/bin/sh
# Runs a cross-built test program under Wine, quietly and without installer dialogs.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
exec wine "$@"
