#pragma once
// The whole code model of Kelo code: value types, scopes and the step loop,
// expressions, statements and functions.
#include "script/uKeloExpression.h"
#include "script/uKeloProgram.h"
#include "script/uKeloStatement.h"
#include "script/uKeloTypes.h"
