// Marks the functions the library exports; everything else is built with hidden visibility.
#pragma once

#define KQ_VISA_EXPORT __attribute__((visibility("default")))
