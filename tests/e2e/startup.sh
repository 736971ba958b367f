#!/usr/bin/env bash
# The program starts and shows its main window titled "Ludra".
. "$(dirname "$0")/lib.sh"
e2e_start_x
e2e_start_app
win=$(e2e_wait_window "Ludra") || fail "main window did not appear"
e2e_close_window "$win"
e2e_wait_exit || fail "program still running after its window was closed"
echo "startup: ok"
