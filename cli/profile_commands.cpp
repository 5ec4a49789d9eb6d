// show: a profile's assignments, without a keyboard.
#include "command_runs.h"

#include "exit_codes.h"
#include "keyboard.h"
#include "options.h"
#include "platform/codepage.h"
#include "profile_file.h"

namespace cli {

int runShow(const Arguments& args, Output& io) {
    Invocation inv;
    if (const int code = parseInvocation("show", args, 1, kLanguageOption, inv, io); code != kDone)
        return code;
    auto model = newModel(inv.language);
    if (const int code = loadProfile(*model, inv.positional[0], io); code != kDone)
        return code;
    // Key by key, the top layer before the Fn layer, as the keyboard numbers
    // them in the profile.
    for (int k = 1; k <= 104; ++k) {
        for (int l = 0; l < CTavoModel::kLayers; ++l) {
            const int mode = model->keyMode[k][l];
            if (mode == MODE_NOT_SET)
                continue;
            std::fprintf(io.out, "%s\t%s\t%s\t%s\n", keyName(k).c_str(), l == 0 ? "top" : "Fn",
                         platform::wideToUtf8(model->ModeName(mode)).c_str(),
                         platform::wideToUtf8(model->KeyAssignmentText(k, l)).c_str());
        }
    }
    return kDone;
}

} // namespace cli
