#pragma once
#include "net/inet/InetApi.h"

#include <curl/curl.h>

// The German text of an error code, nullptr when the code is not ours.
const char16_t *InetErrorTextOf(uint32_t code);
// The error code that stands for a failed libcurl transfer.
uint32_t InetErrorFromCurl(CURLcode result);
