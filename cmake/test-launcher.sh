#!/bin/sh
# Runs one test binary with a private user data base. ctest runs every test case as its own
# process, in parallel: each gets its own data home (named after its --gtest_filter), so no two
# processes ever share the INI files that global objects create at start.
base=$1
shift
home=$base/_listing
for arg in "$@"; do
  case $arg in
    --gtest_filter=*) home=$base/$(printf '%s' "${arg#--gtest_filter=}" | tr -c 'A-Za-z0-9._-' '_') ;;
  esac
done
XDG_DATA_HOME=$home
export XDG_DATA_HOME
exec "$@"
