// The SQL that creates a new club database: every table, then the rows a
// club database holds before any import.
#pragma once

namespace couloir::host {
const char* clubDatabaseScript();
}
