#include "test_program.h"
