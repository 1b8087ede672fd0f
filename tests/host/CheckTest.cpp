// motionhost check: the trajectory report from the command line.
#include "HostTestUtil.h"
