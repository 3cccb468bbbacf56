#pragma once

// The speeds and switches the stage reads at the moment a tag runs. The player fills one instance
// with the current (working) values, which WAIT and fast-forward change between tags.
namespace talu::stage {

/// Current effect speeds (ms) and switches (0 off, 1 on) as the stage reads them.
struct StageSettings {
    /// Background changes present through their effect.
    int m_nBackEffect = 1;
    /// Background effect time in ms.
    int m_nBackWait = 50;
    /// Character changes present through their effect.
    int m_nCharEffect = 1;
    /// Character effect time in ms.
    int m_nCharWait = 40;
    /// The message window fades when it opens and closes.
    int m_nFadeEffect = 1;
    /// Window fade time in ms (the fade itself takes 60 % of it).
    int m_nFadeWait = 50;
    /// Brightness in percent of the stage behind a message window without a frame picture.
    int m_nBright = 50;
    /// Dimming behind a frameless message window is on.
    int m_nBrightEffect = 1;
    /// Character outlines are softened against the stage.
    int m_nUseAntiAlias = 1;
    /// JPEG quality of stage snapshots (SNAP MODE=JPEG).
    int m_nJpeg = 70;
};

}  // namespace talu::stage
