#include "Shells.h"
