// q7mctl_metrics.h - a site's units in the Prometheus text format, for
// node_exporter's textfile collector: one q7m_ prefix, base units, a HELP
// and a TYPE line for every family, no timestamps.
#ifndef Q7MCTL_METRICS_H
#define Q7MCTL_METRICS_H

#include <string>
#include <vector>

#include "model/stamp.h"
#include "q7mctl_site.h"

namespace q7mctl {

// The moment of an upload stamp in seconds since 1970 (the stamp is the
// local time of the computer that uploaded), or -1 when the unit was never
// stamped or the stamp is not a date.
long long stampSeconds(const zelk::UnpackedStamp& s);

// The text of the metrics file.  `withBaselines`: the baseline families
// are written for the units that have a baseline.
std::string metricsText(const std::vector<UnitResult>& units, bool withBaselines, double scrapeSeconds);

}  // namespace q7mctl

#endif
