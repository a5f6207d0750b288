#pragma once
// One SARIF 2.1.0 log for a whole run, for code-scanning tools and editors.

#include <string>
#include <vector>

#include "tools/ibischeck/finding.h"
#include "tools/ibischeck/result_json.h"

namespace ibischeck {

class SarifLog {
public:
    void Add(const FileResult& result);
    // The log: one run whose driver lists a rule per message code found,
    // each finding a result on its file and line.
    Json Build(const std::string& toolVersion) const;

private:
    std::vector<Finding> findings_;
    Json files_ = Json::array();
};

// A relative path as a URI reference ("dir/a%20b.ibs"); an absolute one as a
// file URI ("file:///models/a.ibs").
std::string PathToUri(const std::string& path);

// "0906": the rule id of a message code.
std::string RuleId(int code);

}  // namespace ibischeck
