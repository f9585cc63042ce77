// CCmdTarget: an object that can receive commands through its message map.
// Windows, documents, document templates and the application are command
// targets; the frame routes each command along a chain of them.
#pragma once

#include "framework/win/MessageMap.h"
#include "framework/win/RuntimeClass.h"

// Filled in by OnCmdMsg when the caller only asks whether a handler exists.
struct AFX_CMDHANDLERINFO {
    CCmdTarget* pTarget = nullptr;
};

class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
public:
    // Finds and calls the handler for command nID with notification code
    // nCode (CN_COMMAND, CN_UPDATE_COMMAND_UI or a control notification).
    // pExtra is the CCmdUI* of an update. With pHandlerInfo set, nothing is
    // called: the function only reports whether a handler exists.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

    // Looks up a window message in the map chain; nullptr if none.
    const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT nMessage, UINT nCode, UINT nID) const;

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
};

// The user-interface state of one command while the framework asks its
// handler whether it is enabled: a menu item, a toolbar button.
class CCmdUI {
public:
    UINT m_nID = 0;
    UINT m_nIndex = 0;
    BOOL m_bEnableChanged = FALSE;
    BOOL m_bContinueRouting = FALSE;

    virtual ~CCmdUI() = default;
    virtual void Enable(BOOL bOn = TRUE);
    virtual void SetCheck(int nCheck = 1);
    virtual void SetText(const char16_t* text);

    // Asks pTarget's command route for the state. With bDisableIfNoHandler a
    // command that nobody handles is disabled.
    BOOL DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHandler);

    // The state the last update settled on.
    BOOL m_bEnabled = TRUE;
    int m_nCheck = 0;
};
