#pragma once
// Every concrete variable type.
#include "vars/collection_vars.h"
#include "vars/control_vars.h"
#include "vars/info_vars.h"
#include "vars/light_vars.h"
#include "vars/position_vars.h"
