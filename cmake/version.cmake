# The one version of the tool, from project(): a build from the commit tagged v<version> is that version;
# any other build says it is not a release, "<version>-dev+<short commit hash>" ("<version>-dev" outside
# a git checkout). -DVEXA_VERSION=... overrides it. The result reaches the code and the version resource
# through the generated common/version.h.
function(vexa_version out)
  set(version ${PROJECT_VERSION})
  find_package(Git QUIET)
  if(DEFINED VEXA_VERSION)
    set(version ${VEXA_VERSION})
  elseif(GIT_FOUND AND EXISTS ${PROJECT_SOURCE_DIR}/.git)
    execute_process(COMMAND ${GIT_EXECUTABLE} describe --tags --exact-match --match v${PROJECT_VERSION} HEAD
                    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} RESULT_VARIABLE untagged OUTPUT_QUIET ERROR_QUIET)
    if(NOT untagged EQUAL 0)
      execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --short=7 HEAD WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                      OUTPUT_VARIABLE hash OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
      set(version "${version}-dev+${hash}")
    endif()
    # A new commit or tag configures again, so the version never lags behind the checkout (a worktree's
    # files are found where git says they are).
    execute_process(COMMAND ${GIT_EXECUTABLE} symbolic-ref -q HEAD WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                    OUTPUT_VARIABLE branch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    foreach(name IN ITEMS HEAD packed-refs ${branch})
      execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --path-format=absolute --git-path ${name}
                      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE watched
                      OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
      if(EXISTS "${watched}")
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${watched})
      endif()
    endforeach()
  else()
    set(version "${version}-dev")
  endif()
  set(${out} ${version} PARENT_SCOPE)
endfunction()
