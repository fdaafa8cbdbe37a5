#include "core/app/Version.h"
