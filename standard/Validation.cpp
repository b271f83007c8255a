#include "standard/Validation.h"
