#!/bin/sh
# The strip of the package build: like Debian's own packaging tools, it also drops the .comment
# section in which the compiler's start-up files name it.
exec strip --remove-section=.comment --remove-section=.note "$@"
