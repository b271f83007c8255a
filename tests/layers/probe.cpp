// Built only by the layers/ tests: includes the headers its test lists (VELDRA_PROBE names
// a generated file of #include lines), the last of which its library must not see.
#include VELDRA_PROBE
