// A shared library that loads but lacks the two module exports, for the
// tool's tests.
int notAModule() { return 0; }
