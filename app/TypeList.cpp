#include "app/TypeList.h"
