/* A sample skin for the screenshots: it sits beside the program as x/o.cjs. */
QPushButton {
    background: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 #fdfdfe, stop: 1 #e3e8ef);
    border: 1px solid #9aa8b8;
    border-radius: 4px;
    color: #1f2d3d;
}
QPushButton:hover { border-color: #4a7fb8; }
QPushButton:pressed { background: #d5dee9; }
QPushButton#PushButton17 {
    background: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 #4d8fd6, stop: 1 #2d6cb0);
    border-color: #245a93;
    color: white;
}
QTreeView { background: white; border: 1px solid #9aa8b8; border-radius: 3px; }
QHeaderView::section { background: #e8edf3; border: none; border-bottom: 1px solid #c3ccd6; padding: 1px 4px; }
QGroupBox { border: 1px solid #c3ccd6; border-radius: 4px; margin-top: 14px; }
QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 3px; }
QProgressBar { border: 1px solid #9aa8b8; border-radius: 4px; background: white; text-align: center; }
QProgressBar::chunk { background: #7fb2e5; border-radius: 3px; }
