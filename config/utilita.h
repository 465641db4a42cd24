// The settings object: the key table of the job configuration file and the record that
// receives the current job's values. One instance lives for the whole run.
#pragma once

#include "config/job_record.h"
#include "config/key_table.h"

namespace scantora {

struct Utilita {
    KeyTable keys = KeyTable::Build();
    JobRecord job;
};

}  // namespace scantora
