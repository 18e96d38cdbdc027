#include "settings/Config.h"

TConfig Config;
