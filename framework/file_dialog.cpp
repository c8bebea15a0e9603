#include "framework/file_dialog.h"

CFileDialog::CFileDialog(bool openFileDialog, const char* defExt, const char* fileName,
                         unsigned flags, const char* filter, CWnd* pParentWnd)
    : m_flags(flags),
      m_open(openFileDialog),
      m_defExt(defExt != nullptr ? defExt : ""),
      m_fileName(fileName != nullptr ? fileName : ""),
      m_filter(filter != nullptr ? filter : ""),
      m_pParentWnd(pParentWnd) {}
