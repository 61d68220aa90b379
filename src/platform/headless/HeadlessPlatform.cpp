#include "platform/headless/HeadlessPlatform.h"
// Placeholder until the headless back end lands.
