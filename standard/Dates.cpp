#include "standard/Dates.h"
