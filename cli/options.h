// SPDX-License-Identifier: MIT
#pragma once
// lumo-cli's options: which command takes which, and what each sets in the request.
#include <cstddef>
#include <string>
#include <vector>

#include "cli/arguments.h"

// Applies the option at args[i] (taking its value too, which moves `i` on); false, with
// `error`, when it is unknown, lacks its value or does not belong to request.command.
bool TakeOption(const std::vector<std::string>& args, size_t& i, CliRequest& request,
                std::string* error);
