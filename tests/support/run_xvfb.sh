#!/bin/bash
# Runs a command under a private Xvfb server (1024 × 768 unless XVFB_SCREEN says otherwise).
# A random first display number keeps parallel runs from racing for the same server.
exec xvfb-run -a -n $((100 + RANDOM % 800)) -s "-screen 0 ${XVFB_SCREEN:-1024x768x24}" "$@"
