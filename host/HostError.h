// SHostError: a usage or file error of a host command, thrown up to main,
// which prints it as one line ("motionhost: " + message) and exits with
// status 2.
#pragma once

#include <string>

struct SHostError {
    std::string message;
};
