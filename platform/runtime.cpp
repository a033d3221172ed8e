#include "platform/runtime.h"
