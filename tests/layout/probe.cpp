// Compiled by the layout checks only: one include, seen from one library.
#include PROBE_HEADER
