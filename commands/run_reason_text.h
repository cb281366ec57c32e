// SPDX-License-Identifier: MIT
#pragma once
// The text the desktop program shows for a run's failure: its reason code's text in the
// user's language, or the English text the run gave where the code leaves the details
// to it (which system error, what decoding found).
#include <QString>
#include <string>

#include "archive/run_shape.h"

QString RunReasonText(RunReason code, const std::string& english);
