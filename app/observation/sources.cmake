list(APPEND QUILLET_CORE_SOURCES
  app/observation/Published.h
  app/observation/Subscription.h
  app/observation/Subscription.cpp
  platform/MainQueue.h
  platform/HotKeyService.h
)
list(APPEND QUILLET_TOOLKIT_SOURCES
)
