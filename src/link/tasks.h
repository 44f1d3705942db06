#pragma once

// The whole command set of the device protocol.
#include "link/task.h"
#include "link/task_query.h"
#include "link/task_transfer.h"
