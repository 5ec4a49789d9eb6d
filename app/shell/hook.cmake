# The Qt side of the keyboard hook and the skinned scroll bar.
target_sources(vantacorv_shell PRIVATE
  VirtualKeys.h
  VirtualKeys.cpp
  KeyHookFeed.h
  KeyHookFeed.cpp
  SkinScrollBar.h
  SkinScrollBar.cpp)
