// [Node Declarations] of a component: the NODE LIST, kept in file order with
// every name as written, and an index by name for the circuit call checks.

#include "IbisParser/node.h"

#include "IbisParser/cmn.h"
#include "IbisParser/cmpnt.h"
#include "IbisParser/cmpnt_names.h"
#include "IbisParser/msg.h"

#define NODE_MODULE "IbisParser\\node"

namespace {

// Every declared name is kept, repeats included, so that the component's
// sanity checks can report each pair of equal names; the index keeps the
// first node of a name.
void AddNode(CMPNT* component, const char* name) {
    NODE* node = nullptr;
    if (!CMN_Calloc(&node, sizeof *node)) {
        MSG_Bug(3600, NODE_MODULE, __LINE__);
        return;
    }
    node->name = CMN_StrDup(name);
    if (node->name == nullptr) {
        MSG_Bug(3600, NODE_MODULE, __LINE__);
        CMN_Free(node);
        return;
    }
    if (component->nodesTail == nullptr)
        component->nodes = node;
    else
        component->nodesTail->next = node;
    component->nodesTail = node;
    CMPNT_NamesAdd(&component->nodeIndex, node->name, node);
}

}  // namespace

int NODE_KeywordLine(int, char*) { return 1; }

int NODE_DataLine(CMPNT* component, int, char* line) {
    const char* cursor = line;
    for (;;) {
        CMN_SkipSpace(&cursor);
        if (*cursor == '\0') break;
        const size_t length = CMN_TokenLength('\0', cursor);
        if (length == 0) break;
        char* name = CMN_SubStr(cursor, length);
        if (name == nullptr) {
            MSG_Bug(3600, NODE_MODULE, __LINE__);
            return 1;
        }
        AddNode(component, name);
        CMN_Free(name);
        cursor += length;
    }
    return 1;
}

void NODE_KeywordChange(int) {}

bool NODE_IsDeclared(const CMPNT* component, const char* name) {
    return CMPNT_NamesFind(component->nodeIndex, name) != nullptr;
}

void NODE_FreeList(CMPNT* component) {
    NODE* node = component->nodes;
    while (node != nullptr) {
        NODE* next = node->next;
        CMN_Free(node->name);
        CMN_Free(node);
        node = next;
    }
    component->nodes = nullptr;
    component->nodesTail = nullptr;
    CMPNT_NamesFree(component->nodeIndex);
    component->nodeIndex = nullptr;
}
